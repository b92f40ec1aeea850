function UpdateItemList(){
  var info = "Item List:\n"
var hasData = 0
var totalPrice = 0
for (var n =1; n <= top.List.length; n++) {
 if(top.List[n].itemquantity > 0) {
      var total = parseFloat(top.List[n].itemprice) * parseFloat(top.List[n].itemquantity)
      info += top.List[n].itemid + " X " + top.List[n].itemquantity + " @ "  + top.moneyFormat(top.List[n].itemprice) + " = " + top.moneyFormat(total)
      info += "\n"
totalPrice += parseFloat(total)
  hasData = 1 } }  if(hasData == 1) {
info += "\nTotal Price : " + top.moneyFormat(totalPrice)
document.FormOrder.ItemList.value = info
 document.FormOrder.AMOUNT.value = top.moneyFormat(totalPrice) }
else {
  document.FormOrder.ItemList.value = "Press the 'Online Ordering' button to order items."} }
